<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>Class</name>
    <message>
        <source>Class</source>
        <translation>新建摄像机</translation>
    </message>
    <message>
        <source>Title</source>
        <translation>标题</translation>
    </message>
    <message>
        <source>    摄像机：</source>
        <translation>    摄像机：</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>添加</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>get curent settings info faild</source>
        <translation>获取当前设置信息失败</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>The settings could not be saved to %1</source>
        <translation>无法将设置保存到 %1</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>设置</translation>
    </message>
    <message>
        <source>General Settings</source>
        <translation>常规设置</translation>
    </message>
    <message>
        <source>Version Settings</source>
        <translation>版本设置</translation>
    </message>
    <message>
        <source>Transfer Settings</source>
        <translation>传输设置</translation>
    </message>
    <message>
        <source>Persion Settings</source>
        <translation>个人设置</translation>
    </message>
    <message>
        <source>Project Settings</source>
        <translation>项目设置</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>应用</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Auto Download</source>
        <translation>自动下载</translation>
    </message>
    <message>
        <source>Auto download when frame is complete</source>
        <translation>帧渲染完成后自动下载</translation>
    </message>
    <message>
        <source>Set Argument</source>
        <translation>设置参数</translation>
    </message>
    <message>
        <source>Set parameters when analysis is complete</source>
        <translation>分析完成后设置渲染参数</translation>
    </message>
    <message>
        <source>Compress Scene</source>
        <translation>压缩场景</translation>
    </message>
    <message>
        <source>Compress scene file before transfer</source>
        <translation>传输前压缩场景文件</translation>
    </message>
    <message>
        <source>ReAnalysis</source>
        <translation>重新分析</translation>
    </message>
    <message>
        <source>Analysis of the scene re analysis</source>
        <translation>重新分析场景</translation>
    </message>
    <message>
        <source>Stop Commit When Analysis Faild</source>
        <translation>分析失败时停止提交</translation>
    </message>
    <message>
        <source>Alert and wait for confirmation when an error occurs</source>
        <translation>出错时提醒并等待确认</translation>
    </message>
    <message>
        <source>Append download path</source>
        <translation>追加下载路径</translation>
    </message>
    <message>
        <source>Auto Faild After Analysis Timeout</source>
        <translation>分析超时后自动判为失败</translation>
    </message>
    <message>
        <source>Minutes</source>
        <translation>分钟</translation>
    </message>
    <message>
        <source>*Set 30 ~ 300 Minutes</source>
        <translation>*可设 30 ~ 300 分钟</translation>
    </message>
    <message>
        <source>Render Timeout</source>
        <translation>渲染超时</translation>
    </message>
    <message>
        <source>*Set  1~ 9000 minutes</source>
        <translation>*可设 1 ~ 9000 分钟</translation>
    </message>
    <message>
        <source>Warnning</source>
        <translation>提醒</translation>
    </message>
    <message>
        <source>Stop Work</source>
        <translation>停止作业</translation>
    </message>
    <message>
        <source>Enable clipboard submit</source>
        <translation>启用剪贴板提交</translation>
    </message>
    <message>
        <source>Enable clipboard submitting when the drag and drop submitting failed</source>
        <translation>拖放提交失败时改用剪贴板提交</translation>
    </message>
    <message>
        <source>Default download path</source>
        <translation>默认下载路径</translation>
    </message>
    <message>
        <source>Compress Download</source>
        <translation>压缩下载</translation>
    </message>
    <message>
        <source>Only the jobs completed after this option being choosed will be downloaded automatically</source>
        <translation>仅自动下载勾选此项之后完成的作业</translation>
    </message>
    <message>
        <source>Upload Scene File Only</source>
        <translation>仅上传场景文件</translation>
    </message>
    <message>
        <source>Upload the scene file only</source>
        <translation>只上传场景文件</translation>
    </message>
    <message>
        <source>Enable Pre-Render</source>
        <translation>启用预渲染</translation>
    </message>
    <message>
        <source>Pre-render 3 frames for checking</source>
        <translation>预先渲染 3 帧用于检查</translation>
    </message>
    <message>
        <source>The pre rendered frame priority rendering</source>
        <translation>预渲染帧优先渲染</translation>
    </message>
    <message>
        <source>High priority for pre-rendering frames</source>
        <translation>预渲染帧使用高优先级</translation>
    </message>
    <message>
        <source>Merge layers</source>
        <translation>合并图层</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>删除</translation>
    </message>
    <message>
        <source>Editor</source>
        <translation>编辑</translation>
    </message>
    <message>
        <source>Current Project</source>
        <translation>当前项目</translation>
    </message>
    <message>
        <source>Set Current</source>
        <translation>设为当前</translation>
    </message>
    <message>
        <source>Cancel To Create The Folder Named 'JobNumber_SenceName' When Download</source>
        <translation>下载时不创建“作业号_场景名”文件夹</translation>
    </message>
    <message>
        <source>   *There is no scene-level folder</source>
        <translation>   *不再有场景一级的文件夹</translation>
    </message>
    <message>
        <source>Render Sence Monitor Path</source>
        <translation>渲染场景监控路径</translation>
    </message>
    <message>
        <source>Camera List</source>
        <translation>摄像机列表</translation>
    </message>
    <message>
        <source>Select directory</source>
        <translation>选择文件夹</translation>
    </message>
    <message>
        <source>Update plugin for %1 falied! 
Please close %1 application and try again!</source>
        <translation>%1 插件更新失败！
请关闭 %1 后重试！</translation>
    </message>
    <message>
        <source>Project List</source>
        <translation>项目列表</translation>
    </message>
    <message>
        <source>New Project</source>
        <translation>新建项目</translation>
    </message>
    <message>
        <source>Item Name</source>
        <translation>项目名称</translation>
    </message>
    <message>
        <source>Item Type</source>
        <translation>项目类型</translation>
    </message>
    <message>
        <source>NodePool</source>
        <translation>节点池</translation>
    </message>
    <message>
        <source>Operation</source>
        <translation>操作</translation>
    </message>
    <message>
        <source>are you sure to delete the project named :%1 ?</source>
        <translation>确定要删除项目“%1”吗？</translation>
    </message>
    <message>
        <source>CANCEL</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Transfer Mode:</source>
        <translation>传输方式：</translation>
    </message>
    <message>
        <source>TransferLine</source>
        <translation>传输线路</translation>
    </message>
    <message>
        <source> SpeedTest </source>
        <translation> 测速 </translation>
    </message>
    <message>
        <source>Fair</source>
        <translation>公平</translation>
    </message>
    <message>
        <source>Fixed</source>
        <translation>固定</translation>
    </message>
    <message>
        <source>Upload Settings</source>
        <translation>上传设置</translation>
    </message>
    <message>
        <source>Download Settings</source>
        <translation>下载设置</translation>
    </message>
    <message>
        <source>Target Speed</source>
        <translation>目标速度</translation>
    </message>
    <message>
        <source>*Transfer methods available: FTP , ZFTX, ASPERA. ZFTX (Corvanta Data Transfer) was a new transfer solution designed and created by Corvanta Tech. Based on a large amount of test results, it has been proven that ZFTX could increase 5-10 times of speed in some of Internet environments.Aspera only for high-level creative members and members of the rendering package open</source>
        <translation>*可选传输方式：FTP、ZFTX、ASPERA。ZFTX（Corvanta 数据传输）是 Corvanta 科技自主研发的新一代传输方案，大量测试表明，在部分网络环境下可将传输速度提升 5 到 10 倍。Aspera 仅对高级创作会员和开通渲染套餐的会员开放。</translation>
    </message>
    <message>
        <source>If you need to modify the parameter to Constant Speed Mode, please contact our technical support. Modify without permission may slow down the speed.</source>
        <translation>如需改为固定速度模式，请联系技术支持。擅自修改可能导致传输变慢。</translation>
    </message>
    <message>
        <source>You have not opened ASPERA, click "Ok" to apply online</source>
        <translation>您尚未开通 ASPERA，点击“确定”在线申请</translation>
    </message>
    <message>
        <source>SpeedTest start faild</source>
        <translation>测速程序启动失败</translation>
    </message>
    <message>
        <source>Maximum target speed:</source>
        <translation>最大目标速度：</translation>
    </message>
    <message>
        <source>click the blank area if system failed to locate the path automatically</source>
        <translation>如未能自动找到安装路径，请点击路径空白处手动选择</translation>
    </message>
    <message>
        <source>Software Version</source>
        <translation>软件版本</translation>
    </message>
    <message>
        <source>Installation Path</source>
        <translation>安装路径</translation>
    </message>
    <message>
        <source>Plugin Status</source>
        <translation>插件状态</translation>
    </message>
    <message>
        <source>installed</source>
        <translation>已安装</translation>
    </message>
    <message>
        <source>No plugins has been installed/updated!</source>
        <translation>没有插件被安装或更新！</translation>
    </message>
    <message>
        <source>Plugins installed/updated list: 
%1</source>
        <translation>已安装或更新的插件：
%1</translation>
    </message>
    <message>
        <source>Allowed: %1 to %2</source>
        <translation>允许范围：%1 ~ %2</translation>
    </message>
</context>
<context>
    <name>WgtMonitor</name>
    <message>
        <source>Form</source>
        <translation>表单</translation>
    </message>
    <message>
        <source>delete</source>
        <translation>删除</translation>
    </message>
</context>
<context>
    <name>kiv_camera_dialog</name>
    <message>
        <source>Create</source>
        <translation>创建</translation>
    </message>
    <message>
        <source>New Camera</source>
        <translation>新建摄像机</translation>
    </message>
</context>
<context>
    <name>kiv_configuration_widget</name>
    <message>
        <source>Plugins are installing...</source>
        <translation>正在安装插件...</translation>
    </message>
</context>
<context>
    <name>kiv_download_path</name>
    <message>
        <source>Append download path</source>
        <translation>追加下载路径</translation>
    </message>
    <message>
        <source>Select the path you want to append, and drag and drop adjust to the path order</source>
        <translation>选择要追加的路径，拖动可调整顺序</translation>
    </message>
    <message>
        <source>Customize:</source>
        <translation>自定义：</translation>
    </message>
    <message>
        <source>Preview:</source>
        <translation>预览：</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>kiv_downloadpath</name>
    <message>
        <source>Append download path</source>
        <translation>追加下载路径</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Task Id</source>
        <translation>作业号</translation>
    </message>
    <message>
        <source>Task Name</source>
        <translation>作业名</translation>
    </message>
    <message>
        <source>Server Name</source>
        <translation>服务器名</translation>
    </message>
    <message>
        <source>Customize</source>
        <translation>自定义</translation>
    </message>
</context>
<context>
    <name>kiv_itemoperation_widget</name>
    <message>
        <source>delete</source>
        <translation>删除</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>编辑</translation>
    </message>
    <message>
        <source>Current Project</source>
        <translation>当前项目</translation>
    </message>
</context>
<context>
    <name>kiv_monitoritem_widget</name>
    <message>
        <source>Delete</source>
        <translation>删除</translation>
    </message>
</context>
<context>
    <name>kiv_pluginoptions</name>
    <message>
        <source>Automatic Install plugin failed, please install manually</source>
        <translation>插件自动安装失败，请手动安装</translation>
    </message>
    <message>
        <source>Get plugins failed!</source>
        <translation>获取插件失败！</translation>
    </message>
    <message>
        <source>Get plugins failed, please try a later!</source>
        <translation>获取插件失败，请稍后再试！</translation>
    </message>
    <message>
        <source>The plugins are already the latest!</source>
        <translation>插件已是最新版本！</translation>
    </message>
    <message>
        <source>The current plugins version are already the latest version!</source>
        <translation>当前插件已是最新版本！</translation>
    </message>
    <message>
        <source>The plugins are already the latest! Re-install that?</source>
        <translation>插件已是最新版本！要重新安装吗？</translation>
    </message>
    <message>
        <source>New plugins detected, please make sure to close 3ds Max applications!</source>
        <translation>检测到新插件，请先关闭 3ds Max！</translation>
    </message>
    <message>
        <source>Download plugins finish! Install now?</source>
        <translation>插件下载完成！现在安装吗？</translation>
    </message>
    <message>
        <source>Download finish!
%1 download failed! please try a later!</source>
        <translation>下载完成！
%1 下载失败，请稍后再试！</translation>
    </message>
</context>
<context>
    <name>kiv_plugintutorial</name>
    <message>
        <source>kiv_plugintutorial</source>
        <translation>插件教程</translation>
    </message>
    <message>
        <source>Effect picture render totulial:</source>
        <translation>效果图渲染教程：</translation>
    </message>
    <message>
        <source>The tutorial animation is missing:
%1</source>
        <translation>找不到教程动画：
%1</translation>
    </message>
</context>
<context>
    <name>wgtConfiguration</name>
    <message>
        <source>Settings</source>
        <translation>设置</translation>
    </message>
    <message>
        <source>General Settings</source>
        <translation>常规设置</translation>
    </message>
    <message>
        <source>Version Settings</source>
        <translation>版本设置</translation>
    </message>
    <message>
        <source>Transfer Settings</source>
        <translation>传输设置</translation>
    </message>
    <message>
        <source>Persion Settings</source>
        <translation>个人设置</translation>
    </message>
    <message>
        <source>Project Settings</source>
        <translation>项目设置</translation>
    </message>
    <message>
        <source>Auto Download</source>
        <translation>自动下载</translation>
    </message>
    <message>
        <source>Auto download when frame is complete</source>
        <translation>帧渲染完成后自动下载</translation>
    </message>
    <message>
        <source>Compress Download</source>
        <translation>压缩下载</translation>
    </message>
    <message>
        <source>Only the jobs completed after this option being choosed will be downloaded automatically</source>
        <translation>仅自动下载勾选此项之后完成的作业</translation>
    </message>
    <message>
        <source>Set Argument</source>
        <translation>设置参数</translation>
    </message>
    <message>
        <source>Set parameters when analysis is complete</source>
        <translation>分析完成后设置渲染参数</translation>
    </message>
    <message>
        <source>Compress Scene</source>
        <translation>压缩场景</translation>
    </message>
    <message>
        <source>Compress scene file before transfer</source>
        <translation>传输前压缩场景文件</translation>
    </message>
    <message>
        <source>Upload Scene File Only</source>
        <translation>仅上传场景文件</translation>
    </message>
    <message>
        <source>Upload the scene file only</source>
        <translation>只上传场景文件</translation>
    </message>
    <message>
        <source>Enable Pre-Render</source>
        <translation>启用预渲染</translation>
    </message>
    <message>
        <source>Pre-render 3 frames for checking</source>
        <translation>预先渲染 3 帧用于检查</translation>
    </message>
    <message>
        <source>The pre rendered frame priority rendering</source>
        <translation>预渲染帧优先渲染</translation>
    </message>
    <message>
        <source>High priority for pre-rendering frames</source>
        <translation>预渲染帧使用高优先级</translation>
    </message>
    <message>
        <source>ReAnalysis</source>
        <translation>重新分析</translation>
    </message>
    <message>
        <source>Analysis of the scene re analysis</source>
        <translation>重新分析场景</translation>
    </message>
    <message>
        <source>Merge layers</source>
        <translation>合并图层</translation>
    </message>
    <message>
        <source>if you set arguments for scene, it will not use default camera</source>
        <translation>为场景设置参数后，将不再使用默认摄像机</translation>
    </message>
    <message>
        <source>scene file version missing warning</source>
        <translation>场景文件版本缺失时提醒</translation>
    </message>
    <message>
        <source>Stop Commit When Analysis Faild</source>
        <translation>分析失败时停止提交</translation>
    </message>
    <message>
        <source>Alert and wait for confirmation when an error occurs</source>
        <translation>出错时提醒并等待确认</translation>
    </message>
    <message>
        <source>3ds Max package mode</source>
        <translation>3ds Max 打包方式</translation>
    </message>
    <message>
        <source>Project mode</source>
        <translation>项目模式</translation>
    </message>
    <message>
        <source>Archive mode</source>
        <translation>归档模式</translation>
    </message>
    <message>
        <source>Append download path</source>
        <translation>追加下载路径</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>编辑</translation>
    </message>
    <message>
        <source>Auto Faild After Analysis Timeout</source>
        <translation>分析超时后自动判为失败</translation>
    </message>
    <message>
        <source>Minutes</source>
        <translation>分钟</translation>
    </message>
    <message>
        <source>*Set 30 ~ 300 Minutes</source>
        <translation>*可设 30 ~ 300 分钟</translation>
    </message>
    <message>
        <source>Render Timeout</source>
        <translation>渲染超时</translation>
    </message>
    <message>
        <source>*Set  1~ 9000 minutes</source>
        <translation>*可设 1 ~ 9000 分钟</translation>
    </message>
    <message>
        <source>Warnning</source>
        <translation>提醒</translation>
    </message>
    <message>
        <source>Stop Work</source>
        <translation>停止作业</translation>
    </message>
    <message>
        <source>Remind me when my balance is less than</source>
        <translation>余额低于以下金额时提醒我</translation>
    </message>
    <message>
        <source>yuan</source>
        <translation>元</translation>
    </message>
    <message>
        <source>Enable clipboard submit</source>
        <translation>启用剪贴板提交</translation>
    </message>
    <message>
        <source>Enable clipboard submitting when the drag and drop submitting failed</source>
        <translation>拖放提交失败时改用剪贴板提交</translation>
    </message>
    <message>
        <source>Default download path</source>
        <translation>默认下载路径</translation>
    </message>
    <message>
        <source>analysis cache path</source>
        <translation>分析缓存路径</translation>
    </message>
    <message>
        <source>click the blank area if system failed to locate the path automatically</source>
        <translation>如未能自动找到安装路径，请点击路径空白处手动选择</translation>
    </message>
    <message>
        <source>Software Version</source>
        <translation>软件版本</translation>
    </message>
    <message>
        <source>Installation Path</source>
        <translation>安装路径</translation>
    </message>
    <message>
        <source>Plugin Status</source>
        <translation>插件状态</translation>
    </message>
    <message>
        <source>plugin tutorial</source>
        <translation>插件教程</translation>
    </message>
    <message>
        <source>plugin install</source>
        <translation>安装插件</translation>
    </message>
    <message>
        <source>Transfer Mode:</source>
        <translation>传输方式：</translation>
    </message>
    <message>
        <source>TransferLine</source>
        <translation>传输线路</translation>
    </message>
    <message>
        <source> SpeedTest </source>
        <translation> 测速 </translation>
    </message>
    <message>
        <source>*Transfer methods available: FTP , ZFTX, ASPERA. ZFTX (Corvanta Data Transfer) was a new transfer solution designed and created by Corvanta Tech. Based on a large amount of test results, it has been proven that ZFTX could increase 5-10 times of speed in some of Internet environments.Aspera only for high-level creative members and members of the rendering package open</source>
        <translation>*可选传输方式：FTP、ZFTX、ASPERA。ZFTX（Corvanta 数据传输）是 Corvanta 科技自主研发的新一代传输方案，大量测试表明，在部分网络环境下可将传输速度提升 5 到 10 倍。Aspera 仅对高级创作会员和开通渲染套餐的会员开放。</translation>
    </message>
    <message>
        <source>ZFTX Upload Settings</source>
        <translation>ZFTX 上传设置</translation>
    </message>
    <message>
        <source>Fair</source>
        <translation>公平</translation>
    </message>
    <message>
        <source>Fixed</source>
        <translation>固定</translation>
    </message>
    <message>
        <source>Target Speed</source>
        <translation>目标速度</translation>
    </message>
    <message>
        <source>Mbps</source>
        <translation>Mbps</translation>
    </message>
    <message>
        <source>ZFTX Download Settings</source>
        <translation>ZFTX 下载设置</translation>
    </message>
    <message>
        <source>If you need to modify the parameter to Constant Speed Mode, please contact our technical support. Modify without permission may slow down the speed.</source>
        <translation>如需改为固定速度模式，请联系技术支持。擅自修改可能导致传输变慢。</translation>
    </message>
    <message>
        <source>ASPERA Upload Settings</source>
        <translation>ASPERA 上传设置</translation>
    </message>
    <message>
        <source>ASPERA Download Settings</source>
        <translation>ASPERA 下载设置</translation>
    </message>
    <message>
        <source>Cancel To Create The Folder Named 'JobNumber_SenceName' When Download</source>
        <translation>下载时不创建“作业号_场景名”文件夹</translation>
    </message>
    <message>
        <source>   *There is no scene-level folder</source>
        <translation>   *不再有场景一级的文件夹</translation>
    </message>
    <message>
        <source>Render Sence Monitor Path</source>
        <translation>渲染场景监控路径</translation>
    </message>
    <message>
        <source>Camera List</source>
        <translation>摄像机列表</translation>
    </message>
    <message>
        <source>Project List</source>
        <translation>项目列表</translation>
    </message>
    <message>
        <source>New Project</source>
        <translation>新建项目</translation>
    </message>
    <message>
        <source>Item Name</source>
        <translation>项目名称</translation>
    </message>
    <message>
        <source>Item Type</source>
        <translation>项目类型</translation>
    </message>
    <message>
        <source>NodePool</source>
        <translation>节点池</translation>
    </message>
    <message>
        <source>Operation</source>
        <translation>操作</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>应用</translation>
    </message>
</context>
</TS>